<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>OverwritePrinter</name>
    <message>
        <source>Ignore</source>
        <translation>忽略</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>覆盖</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Add printer failed: </source>
        <translation>添加打印机失败： </translation>
    </message>
    <message>
        <source>Cancle</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Cannot connect printer!</source>
        <translation>无法连接打印机。</translation>
    </message>
    <message>
        <source>Cannot connect printer, port=631: </source>
        <translation>无法连接至打印机端口631：</translation>
    </message>
    <message>
        <source>Device already exist. Ignore or overwrite it.
</source>
        <translation>设备已经存在。忽略或者覆盖它。</translation>
    </message>
    <message>
        <source>Driver already exist</source>
        <translation>打印机已存在</translation>
    </message>
    <message>
        <source>Email address format is wrong.</source>
        <translation>邮箱地址格式错误</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>忽略</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>覆盖</translation>
    </message>
    <message>
        <source>Please choose printer!</source>
        <translation>请选择一个打印机。</translation>
    </message>
    <message>
        <source>Please fill all info!</source>
        <translation>请输入相关信息</translation>
    </message>
    <message>
        <source>Print through USB not supported temporarily.</source>
        <translation>暂不支持USB打印机</translation>
    </message>
    <message>
        <source>Printer Connect OK!</source>
        <translation>打印机在线</translation>
    </message>
    <message>
        <source>Printer already exist.</source>
        <translation>打印机已存在。</translation>
    </message>
    <message>
        <source>Tavrin Warning</source>
        <translation>塔文警告</translation>
    </message>
    <message>
        <source>Tavrin had run, Please check the tray on task bar.</source>
        <translation>塔文已经在运行中，请在任务栏中查找塔文托盘。</translation>
    </message>
    <message>
        <source>Tip</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>ip invalid</source>
        <translation>IP 地址不正确。</translation>
    </message>
    <message>
        <source>printer not supported document format.</source>
        <translation>不支持的打印模式</translation>
    </message>
    <message>
        <source>start must lesser than end</source>
        <translation>IP 起始地址必须小于结束地址。</translation>
    </message>
</context>
</TS>
