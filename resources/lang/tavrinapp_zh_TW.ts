<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>OverwritePrinter</name>
    <message>
        <source>Ignore</source>
        <translation>忽略</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>覆蓋</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Add printer failed: </source>
        <translation>添加打印機失敗：</translation>
    </message>
    <message>
        <source>Cancle</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Cannot connect printer!</source>
        <translation>不能鏈接打印機！</translation>
    </message>
    <message>
        <source>Cannot connect printer, port=631: </source>
        <translation>無法鏈接至打印機端口631：</translation>
    </message>
    <message>
        <source>Device already exist. Ignore or overwrite it.
</source>
        <translation>設備已經存在。忽略或者覆蓋它？</translation>
    </message>
    <message>
        <source>Driver already exist</source>
        <translation>打印機已存在</translation>
    </message>
    <message>
        <source>Email address format is wrong.</source>
        <translation>郵箱地址格式錯誤</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>忽略</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>覆蓋</translation>
    </message>
    <message>
        <source>Please choose printer!</source>
        <translation>請選擇一個打印機。</translation>
    </message>
    <message>
        <source>Please fill all info!</source>
        <translation>請輸入相關信息</translation>
    </message>
    <message>
        <source>Print through USB not supported temporarily.</source>
        <translation>暫不支持USB打印機</translation>
    </message>
    <message>
        <source>Printer Connect OK!</source>
        <translation>打印機在綫</translation>
    </message>
    <message>
        <source>Printer already exist.</source>
        <translation>打印機已存在。</translation>
    </message>
    <message>
        <source>Tavrin Warning</source>
        <translation>塔文警告</translation>
    </message>
    <message>
        <source>Tavrin had run, Please check the tray on task bar.</source>
        <translation>塔文已經在運行中，請在任務欄中查找塔文托盤。</translation>
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
        <translation>確認</translation>
    </message>
    <message>
        <source>ip invalid</source>
        <translation>IP 地址不正確。</translation>
    </message>
    <message>
        <source>printer not supported document format.</source>
        <translation>不支持的打印模式</translation>
    </message>
    <message>
        <source>start must lesser than end</source>
        <translation>IP 起始地址必須小於結束地址。</translation>
    </message>
</context>
</TS>
